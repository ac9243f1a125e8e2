#pragma once
// The application object: prepares the process (automation, dialog
// colours, the start folder, the theme sound) and runs the main dialog.
// The process ends when the dialog closes.

#include "platform/Automation.h"

#include <QStringList>

#include <string>

namespace tryster::app {

class CTrysterApp {
public:
    explicit CTrysterApp(platform::AutomationServer& automation);

    // The start sequence; returns the process's exit code (the code of a
    // posted quit, 0 when the user closes the window).
    int initInstance(const QStringList& arguments);

    const std::string& startFolder() const { return m_startFolder; }

    // "-Embedding", "/Automation" and the like, in any letter case.
    static bool hasAutomationSwitch(const QStringList& arguments);
    // Every dialog: background RGB 142, 0, 0 and white text.
    static void applyDialogColours();

private:
    platform::AutomationServer& m_automation;
    std::string m_startFolder;
};

}  // namespace tryster::app
