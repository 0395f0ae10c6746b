#pragma once

#include <QIcon>

// The program's icon: a folded card with a heart on its front cover, drawn at the usual icon
// sizes.
QIcon ApplicationIcon();
