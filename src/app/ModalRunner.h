#pragma once
// Every modal dialog of the program (the splash, the message and question
// boxes, the About box) runs through here, so tests can answer them
// without a user: the installed runner gets the dialog, fully set up, and
// returns its result.

class QDialog;

namespace tryster::app {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual int run(QDialog& dialog) = 0;
};

// Runs the dialog with the installed runner; exec() when none is installed.
int runModal(QDialog& dialog);

// nullptr restores exec().
void installModalRunner(ModalRunner* runner);

}  // namespace tryster::app
