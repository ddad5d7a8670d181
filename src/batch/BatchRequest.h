#pragma once

#include <string>
#include <vector>

#include "AdvancedChoices.h"

namespace quorvel {

// All texts are UTF-8. They are converted to the batch list's code page only when written.

// A check box state: 0 cleared, 1 set.
using CheckState = int;

// What to write and for which sources. Filled from the main window, or by quorvel-batch.
struct BatchJob {
    std::string BatchFile;  // the list to create, used as given
    // The list's path as the encoder names it, where that differs from BatchFile (quorvel-batch
    // away from Windows: "Z:\home\ann\list.tbe" for "/home/ann/list.tbe"). It is compared with
    // the sources and outputs, which are in that form.
    std::string BatchFileForEncoder;
    std::string TemplateFile;              // empty (and only empty) selects the built-in settings
    std::string OutputDirectory;           // joined with each output name; normally ends with a backslash
    std::string SourceDirectory;           // ends with a backslash only at a drive root ("C:\")
    std::vector<std::string> SourceNames;  // names without directory, in list order

    // Sources from many folders (quorvel-batch): the folder of each source, in step with
    // SourceNames and in SourceDirectory's form. Empty when every source lies in
    // SourceDirectory, as in the Windows program; an empty entry also means SourceDirectory.
    std::vector<std::string> SourceDirectories;
    // Each output goes into its own source's folder instead of OutputDirectory.
    bool OutputsBesideSources = false;
    // How messages name each source where the list holds short forms: the long name (the long
    // path with many folders), in step with SourceNames. Empty when the names are the long ones.
    std::vector<std::string> ShownSources;
};

// How every source of the batch is treated. The initial values are the Advanced options
// dialog's design values.
struct AdvancedOptions {
    std::string AspectRatio{kDefaultAspectRatio};
    std::string VideoSourceType{kDefaultVideoSourceType};
    std::string TopClipping{kDefaultClipping};
    std::string BottomClipping{kDefaultClipping};
    CheckState Deinterlace = 0;
    CheckState NoiseReduction = 0;
    CheckState AutoLaunch = 0;
    std::string TMPGEncPath;
};

}  // namespace quorvel
