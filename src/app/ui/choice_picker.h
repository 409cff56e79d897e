#pragma once
// Pickers whose value can only be chosen from their list: a click anywhere on one
// opens the list and a second click chooses, as in any desktop program; typed
// characters, Backspace, Delete and pasting change nothing.
#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

namespace kestrova::ui {

// The style rule that makes a picker's list drop below it; a picker given a style sheet
// of its own keeps it in that sheet.
inline const QString kListBelowPicker = QStringLiteral("QComboBox { combobox-popup: 0; }");

// A picker offering items, with no choice made. Its width does not follow its items, so
// a line of pickers keeps its shape when their lists change; the open list keeps the
// ordinary colours whatever colour marks the picker itself.
QComboBox *choicePicker(QWidget *parent, const QString &objectName, const QString &accessibleName,
                        const QStringList &items = {}, int width = 110);
// Shows text as the choice. A value the list lacks (stored earlier, or from another
// office) is added to the list so that it can be shown; empty text leaves no choice.
void showChoice(QComboBox *picker, const QString &text);
// Replaces the items, keeping the text shown.
void replaceChoices(QComboBox *picker, const QStringList &items);
// The wheel changes the picker only while it has the focus; elsewhere it is ignored.
void wheelOnlyWhenFocused(QComboBox *picker);
// The open list keeps the ordinary colours whatever colour the picker is given (the
// list is the picker's child and would inherit the focus colour).
void keepListColours(QComboBox *picker);

} // namespace kestrova::ui
