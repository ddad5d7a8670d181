#include <gtest/gtest.h>

#include "selection/DropPlan.h"

namespace quorvel {
namespace {

DroppedItem File(const wchar_t* path) { return {path, false}; }
DroppedItem Folder(const wchar_t* path) { return {path, true}; }

TEST(DropPlan, FilesOfOneFolderAreSelectedThere) {
    const DropPlan plan = PlanDrop({File(L"C:\\Video\\b.avi"), File(L"c:\\video\\A.MPG"), File(L"C:\\Video\\b.avi")});
    EXPECT_EQ(plan.Action, DropPlan::Kind::SelectFiles);
    EXPECT_EQ(plan.Folder, L"C:\\Video");
    EXPECT_EQ(plan.Names, (std::vector<std::wstring>{L"b.avi", L"A.MPG"}));

    const DropPlan root = PlanDrop({File(L"D:\\clip.vob")});
    EXPECT_EQ(root.Action, DropPlan::Kind::SelectFiles);
    EXPECT_EQ(root.Folder, L"D:\\");
    EXPECT_EQ(root.Names, std::vector<std::wstring>{L"clip.vob"});
}

TEST(DropPlan, ASingleTemplateOrListFillsItsBox) {
    const DropPlan templ = PlanDrop({File(L"C:\\t\\dvd.MCF")});
    EXPECT_EQ(templ.Action, DropPlan::Kind::SetTemplate);
    EXPECT_EQ(templ.Path, L"C:\\t\\dvd.MCF");
    const DropPlan list = PlanDrop({File(L"C:\\t\\tonight.tbe")});
    EXPECT_EQ(list.Action, DropPlan::Kind::SetBatchFile);
    EXPECT_EQ(list.Path, L"C:\\t\\tonight.tbe");
    // With other files, a template is just one more file to select; a folder named like one is a folder.
    EXPECT_EQ(PlanDrop({File(L"C:\\t\\a.mcf"), File(L"C:\\t\\b.avi")}).Action, DropPlan::Kind::SelectFiles);
    EXPECT_EQ(PlanDrop({Folder(L"C:\\t\\x.mcf")}).Action, DropPlan::Kind::OpenFolder);
    EXPECT_EQ(PlanDrop({File(L"C:\\t\\.mcf")}).Action, DropPlan::Kind::SetTemplate);
}

TEST(DropPlan, OneFolderOpensIt) {
    const DropPlan plan = PlanDrop({Folder(L"E:\\Holiday 2003")});
    EXPECT_EQ(plan.Action, DropPlan::Kind::OpenFolder);
    EXPECT_EQ(plan.Folder, L"E:\\Holiday 2003");
    EXPECT_EQ(PlanDrop({}).Action, DropPlan::Kind::Nothing);
}

TEST(DropPlan, MixedDropsAreRefusedNamingTheFolders) {
    const DropPlan withFiles = PlanDrop({Folder(L"C:\\a"), File(L"C:\\b\\x.avi")});
    EXPECT_EQ(withFiles.Action, DropPlan::Kind::Refuse);
    EXPECT_NE(withFiles.Message.find(L"\r\nC:\\a"), std::wstring::npos);
    EXPECT_NE(withFiles.Message.find(L"\r\nC:\\b"), std::wstring::npos);

    const DropPlan twoFolders = PlanDrop({Folder(L"C:\\a"), Folder(L"C:\\b")});
    EXPECT_EQ(twoFolders.Action, DropPlan::Kind::Refuse);
    EXPECT_NE(twoFolders.Message.find(L"C:\\b"), std::wstring::npos);

    const DropPlan twoPlaces = PlanDrop({File(L"C:\\a\\x.avi"), File(L"D:\\x.avi"), File(L"c:\\A\\y.avi")});
    EXPECT_EQ(twoPlaces.Action, DropPlan::Kind::Refuse);
    EXPECT_EQ(twoPlaces.Message,
              L"Nothing was changed: the dropped files lie in several folders. Drop files from one folder:\r\nC:\\a"
              L"\r\nD:\\");

    std::vector<DroppedItem> many;
    for (int i = 0; i < 12; ++i) many.push_back({L"C:\\f" + std::to_wstring(i) + L"\\x.avi", false});
    const std::wstring message = PlanDrop(many).Message;
    EXPECT_NE(message.find(L"C:\\f9"), std::wstring::npos);
    EXPECT_EQ(message.find(L"C:\\f10"), std::wstring::npos);
    EXPECT_NE(message.find(L"and 2 more"), std::wstring::npos);
}

}  // namespace
}  // namespace quorvel
