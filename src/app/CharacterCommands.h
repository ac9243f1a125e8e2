#pragma once
// Loading one of the player's characters, restyling it on the preview and
// saving its look back, with the Rescan command beside them. The window
// menu and the shortcuts offer all three; the welcome page offers Load and
// the look page Save back. Load asks for a character file with a panel that
// names the character under the cursor, shows its look, and makes Save back
// possible; Save back writes the look into that file; Rescan finds the
// game's skins again.

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QWidget;

namespace tryster::app {

class PageHost;

class CharacterCommands final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kLoadText = "Load a Plom from the game...";
    static constexpr const char* kSaveBackText = "Save this Plom back to the game";
    static constexpr const char* kRescanText = "Rescan the game folders for skins";

    // The commands' shortcuts work anywhere in `window`.
    CharacterCommands(QWidget* window, PageHost& host);

    QAction* loadAction() const { return m_load; }
    QAction* saveBackAction() const { return m_saveBack; }
    QAction* rescanAction() const { return m_rescan; }

    // True when a character was loaded and Save back may write it.
    bool load();
    void saveBack();
    void rescan();

Q_SIGNALS:
    // A character was loaded; `name` is its catalog name.
    void characterLoaded(const QString& name);

private:
    QWidget* m_window;
    PageHost& m_host;
    QAction* m_load;
    QAction* m_saveBack;
    QAction* m_rescan;
    std::string m_path;
    std::string m_name;  // the game's bytes
};

}  // namespace tryster::app
