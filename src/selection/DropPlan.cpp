#include "selection/DropPlan.h"

#include <cwctype>

namespace quorvel {
namespace {

constexpr std::size_t kLinesNamed = 10;

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    }
    return true;
}

bool HasExtension(const std::wstring& path, const std::wstring& extension) {
    return path.size() > extension.size() &&
           SameTextIgnoringCase(path.substr(path.size() - extension.size()), extension);
}

void AddOnce(std::vector<std::wstring>& folders, const std::wstring& folder) {
    for (const std::wstring& known : folders) {
        if (SameTextIgnoringCase(known, folder)) return;
    }
    folders.push_back(folder);
}

DropPlan Refusal(std::wstring message) {
    DropPlan plan;
    plan.Action = DropPlan::Kind::Refuse;
    plan.Message = std::move(message);
    return plan;
}

}  // namespace

std::wstring MessageLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size() && i < kLinesNamed; ++i) text += L"\r\n" + lines[i];
    if (lines.size() > kLinesNamed) text += L"\r\nand " + std::to_wstring(lines.size() - kLinesNamed) + L" more";
    return text;
}

std::wstring ParentFolder(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // A drive root keeps its backslash.
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

DropPlan PlanDrop(const std::vector<DroppedItem>& items) {
    DropPlan plan;
    if (items.empty()) return plan;

    std::vector<std::wstring> missingItems;
    std::vector<std::wstring> missingFolders;
    for (const DroppedItem& item : items) {
        if (item.Missing == DroppedItem::Absence::Item) AddOnce(missingItems, item.Path);
        if (item.Missing == DroppedItem::Absence::Folder) AddOnce(missingFolders, ParentFolder(item.Path));
    }
    if (!missingItems.empty() || !missingFolders.empty()) {
        std::wstring message = L"Nothing was changed.";
        if (!missingItems.empty()) message += L" These dropped files do not exist:" + MessageLines(missingItems);
        if (!missingItems.empty() && !missingFolders.empty()) message += L"\r\n";
        if (!missingFolders.empty()) message += L" These folders do not exist:" + MessageLines(missingFolders);
        return Refusal(message);
    }

    std::vector<std::wstring> droppedFolders;
    std::vector<std::wstring> fileFolders;
    for (const DroppedItem& item : items) {
        AddOnce(item.IsFolder ? droppedFolders : fileFolders, item.IsFolder ? item.Path : ParentFolder(item.Path));
    }

    if (!droppedFolders.empty()) {
        if (droppedFolders.size() == 1 && fileFolders.empty()) {
            plan.Action = DropPlan::Kind::OpenFolder;
            plan.Folder = droppedFolders.front();
            return plan;
        }
        std::vector<std::wstring> named = droppedFolders;
        for (const std::wstring& folder : fileFolders) AddOnce(named, folder);
        return Refusal(
            L"Nothing was changed: drop one folder, or files from one folder. The drop holds these folders:" +
            MessageLines(named));
    }
    if (fileFolders.size() > 1) {
        return Refusal(L"Nothing was changed: the dropped files lie in several folders. Drop files from one folder:" +
                       MessageLines(fileFolders));
    }

    if (items.size() == 1) {
        const std::wstring& path = items.front().Path;
        if (HasExtension(path, L".mcf") || HasExtension(path, L".tbe")) {
            plan.Action = HasExtension(path, L".mcf") ? DropPlan::Kind::SetTemplate : DropPlan::Kind::SetBatchFile;
            plan.Path = path;
            return plan;
        }
    }
    plan.Action = DropPlan::Kind::SelectFiles;
    plan.Folder = fileFolders.front();
    for (const DroppedItem& item : items) {
        const std::wstring name = item.Path.substr(item.Path.find_last_of(L"\\/") + 1);
        bool seen = false;
        for (const std::wstring& known : plan.Names) seen = seen || SameTextIgnoringCase(known, name);
        if (!seen) plan.Names.push_back(name);
    }
    return plan;
}

}  // namespace quorvel
