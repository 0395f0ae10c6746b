#pragma once

#include <QString>

#include <functional>

class QButtonGroup;
class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QWidget;
class TCardObject;

// Registers the properties dialogs of rectangles, rounded rectangles, ellipses, fields, lines
// and combs with the document model, so that their EditProperties shows them. The user
// interface calls it once at start-up.
void RegisterObjectDialogs();

// What every object dialog does on OK: the object's old area is repainted, the new values are
// stored, the object is aligned again (centring, grid) and repainted, and its document is
// marked as modified.
void ApplyObjectEdit(TCardObject& object, const std::function<void()>& store);

// The OK and Cancel buttons of an object dialog (named "OkButton" and "CancelButton"),
// connected to accept and reject.
QDialogButtonBox* AddOkCancelButtons(QDialog& dialog);

// A group box ("StyleGroup") of `count` radio buttons with their captions and object names,
// stacked; each button's id in `group` is its index.
QGroupBox* NewRadioGroup(QDialog& dialog, const QString& title, QButtonGroup*& group,
                         const char* const captions[], const char* const names[], int count);

// The window an object dialog is shown over: the active window, if any.
QWidget* ObjectDialogParent();
