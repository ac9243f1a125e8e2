#pragma once
// What assistive tools see of the window beyond Qt's own accessibility.
//
// On this platform Qt names a drop-down list after its current entry and
// leaves its label to a relation; screen readers and the tools that drive
// the window by name expect the drop-down's name to be its label's, as for
// every other field. The drop-downs here are named after their labels
// (their current entry stays their value), and a drop-down follows a
// selection that an assistive tool makes in its list, as a list box does.
// A one-line field's text is one run of attributes, whole: Qt's own splits
// it so that screen readers read all but its last letter.

class QComboBox;
class QMenu;
class QWidget;

namespace tryster::app {

// Installs the accessibility of the program's own controls; safe to call
// more than once.
void installAccessibility();

// The drop-down takes the entry an assistive tool selects in its list, and
// tells screen readers its new entry when the keyboard changes it.
void followListSelection(QComboBox* comboBox);

// A window whose menu (the window menu, where the window manager's own
// cannot take the program's commands) assistive tools can open with their
// "show menu" action, as the keyboard's menu key opens it.
void offerWindowMenu(QWidget* window, QMenu* menu);

}  // namespace tryster::app
