#pragma once

#include <functional>

class TCardObject;

// The properties dialogs of the object kinds, by saved class name. The user interface fills
// this table at start-up; without an entry (tests, batch commands) an object has no dialog.
using TPropertyDialog = std::function<bool(TCardObject& object)>;

void RegisterPropertyDialog(const char* className, TPropertyDialog dialog);
// The dialog of the object's class, or null.
const TPropertyDialog* PropertyDialogFor(const TCardObject& object);
