#pragma once

#include <functional>

// Runs one command of the user to its end. An error it raises is shown in the error box of
// the installed context (after the shell has resumed any drawing it froze); an abort ends it
// without a word. Qt treats an exception that escapes a slot, an event handler or a timer as
// undefined behaviour, so every slot, hook and timer callback that can reach the model runs
// its work through here. True when the command ran to its end.
bool RunCommand(const std::function<void()>& command) noexcept;
