#pragma once
// The file finder: finds the game's asset files by kind along ';'-separated
// folder lists, and keeps the process-wide index of known folders.
//
// A category groups file types ("ANIM" holds "CMX" and "BCF"); a type is a
// file's extension in upper case without the dot. Folder lists are relative
// to the current directory (the game's install folder at run time) and use
// the game's '\' separators. Within one folder files are listed in
// case-insensitive name order; folders are visited in list order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::platform {

// Splits "a;b; c" into its folders (blanks around each folder removed, empty
// entries dropped).
std::vector<std::string> splitFolderList(std::string_view list);

// The type of a file name: its extension in upper case, without the dot
// ("" when it has none).
std::string fileType(std::string_view name);

// A file name without its extension.
std::string baseName(std::string_view name);

struct FoundFile {
    std::string folder;  // as given in the folder list
    std::string name;    // file name with extension, as on disk
    std::string path;    // folder and name joined (native separators)
    std::string type;    // upper-case extension
};

class FileFinder {
public:
    // The process-wide finder.
    static FileFinder& instance();

    // Registers (or extends) a category with member types ("SKN", "BMF").
    void registerCategory(std::string_view category, const std::vector<std::string>& types);
    // The types of a category; empty for an unknown one.
    std::vector<std::string> typesOf(std::string_view category) const;

    // Every file of any type of the category, folder by folder.
    std::vector<FoundFile> enumerateCategory(std::string_view category, std::string_view folderList) const;
    // Every file of one type, folder by folder.
    std::vector<FoundFile> enumerateType(std::string_view type, std::string_view folderList) const;

    // The first file named `name`, a name as the game gives it (in its code
    // page, see GameText.h), with or without an extension, of one of
    // the category's types (or of the type itself when `kind` is no
    // category) along the list: folders in list order, and within a folder
    // the category's types in registration order. A name that carries an
    // extension of the kind is looked up as given.
    std::optional<std::string> find(std::string_view name, std::string_view kind,
                                    std::string_view folderList) const;

    // The process-wide folder index. `addFolder` scans the folder (and,
    // with `recursive`, its subfolders); `knowsFolder` tells whether an
    // added folder existed when it was added.
    void addFolder(std::string_view folder, bool recursive = true);
    bool knowsFolder(std::string_view folder) const;
    void clearFolders();

private:
    struct Category {
        std::string name;
        std::vector<std::string> types;
    };
    const Category* category(std::string_view name) const;
    std::vector<std::string> kindTypes(std::string_view kind) const;
    std::vector<FoundFile> enumerate(const std::vector<std::string>& types, std::string_view folderList) const;

    std::vector<Category> categories_;
    std::vector<std::string> knownFolders_;  // normalised spelling
};

}  // namespace tryster::platform
