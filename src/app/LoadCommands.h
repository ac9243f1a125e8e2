#pragma once
// Loading one of the player's characters, restyling it on the preview and
// saving its look back. The commands sit in the window menu (and on the
// template's hidden Load, Save and Reload buttons): Load asks for a
// character file with a panel that names the character under the cursor,
// shows its look, and makes Save back possible; Save back writes the look
// into that file; Rescan refills the appearance lists from the game.

#include <QObject>
#include <QString>
#include <QWidget>

#include <string>

class QAction;
class QFileDialog;
class QLineEdit;

namespace tryster {
class PlomData;
}
namespace tryster::preview {
class Preview;
}

namespace tryster::app {

class PageHost;

// The open dialog's extra panel: "Character Name:", "Gender:" and "Age:"
// of the file under the cursor.
class LoadExtraPanel final : public QWidget {
    Q_OBJECT

public:
    explicit LoadExtraPanel(QWidget* parent = nullptr);

    // Reads the file (read-only) and shows what it says; unreadable files
    // show "Unknown ...".
    void showFile(const QString& path);

    QString characterName() const;
    QString gender() const;
    QString age() const;

private:
    QLineEdit* m_name;
    QLineEdit* m_gender;
    QLineEdit* m_age;
};

class LoadCommands final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kLoadText = "Load a Plom from the game...";
    static constexpr const char* kSaveBackText = "Save this Plom back to the game";
    static constexpr const char* kRescanText = "Rescan the game folders for skins";

    LoadCommands(QWidget* dialog, PageHost& host, preview::Preview& preview, PlomData& record);

    QAction* loadAction() const { return m_load; }
    QAction* saveBackAction() const { return m_saveBack; }
    QAction* rescanAction() const { return m_rescan; }

    const std::string& loadedPath() const { return m_path; }
    const std::string& loadedName() const { return m_name; }

    void load();
    void saveBack();
    void rescan();

Q_SIGNALS:
    // Save back became possible or impossible.
    void saveBackEnabled(bool enabled);

private:
    QWidget* m_dialog;
    PageHost& m_host;
    preview::Preview& m_preview;
    PlomData& m_record;
    QAction* m_load;
    QAction* m_saveBack;
    QAction* m_rescan;
    std::string m_path;
    std::string m_name;
};

}  // namespace tryster::app
