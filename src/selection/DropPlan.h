#pragma once

// What a drop of files and folders onto the main window asks for. Only the decision lives here;
// the window carries it out.

#include <string>
#include <vector>

namespace quorvel {

struct DroppedItem {
    enum class Absence {
        None,    // it exists
        Item,    // nothing of that name in its folder
        Folder,  // the folder that would hold it does not exist either
    };
    std::wstring Path;  // full path, no trailing backslash except at a root
    bool IsFolder = false;
    Absence Missing = Absence::None;
};

struct DropPlan {
    enum class Kind {
        Nothing,       // an empty drop
        OpenFolder,    // Folder: browse it
        SelectFiles,   // Folder: browse it, then select exactly Names
        SetTemplate,   // Path: the template box
        SetBatchFile,  // Path: the batch file box
        Refuse,        // Message: say why, change nothing
    };
    Kind Action = Kind::Nothing;
    std::wstring Folder;
    std::vector<std::wstring> Names;
    std::wstring Path;
    std::wstring Message;
};

// One folder opens it; files that all lie in one folder are selected there; a single template or
// batch list fills its box; anything else (a folder with files, several folders, files of several
// folders) is refused with a message naming the folders. A drop with something that does not
// exist is refused naming it, or the folder that does not exist.
DropPlan PlanDrop(const std::vector<DroppedItem>& items);

// Lines for a message, one per entry after a line break; past ten, a count of the rest.
std::wstring MessageLines(const std::vector<std::wstring>& lines);

// The folder that holds a path: "C:\v\a.avi" gives "C:\v", "C:\a.avi" gives "C:\".
std::wstring ParentFolder(const std::wstring& path);

}  // namespace quorvel
