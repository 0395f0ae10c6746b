#pragma once

#include <QStringList>

// Commands that run without a display: each prints its errors on stderr and returns the
// process exit code.
namespace BatchCommands {

// qdx dump [--layout] FILE
int Dump(const QStringList& arguments);
// qdx render FILE --png OUT [--page N] [--panel P] [--dpi D]
int Render(const QStringList& arguments);
// qdx print FILE --pdf OUT [--dpi N] [--copies N] [--from A] [--to B] [--records]
//           [--crop-marks] [--margins L,T,R,B] [--pass front|back|both]
int Print(const QStringList& arguments);
// qdx publish-web FILE DIR [--main index|default] [--ext htm|html] [--page N] [--title TEXT]
int PublishWeb(const QStringList& arguments);

} // namespace BatchCommands
