// The options dialog through the real game window: its boxes start from the host and the stored
// choices, Cancel and the close box store nothing, and OK applies and stores every value even when
// nothing changed. A damaged profile gives the defaults and stays as it is until an OK.
#include "common/GameRunner.h"
#include "app/GameClientApp.h"
#include "platform/MouseInput.h"
#include "platform/SkinDialog.h"
#include "support/DataPaths.h"
#include "support/Profile.h"
#include "support/TempFolder.h"
#include "windows/GameOptionDlg.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class GameOptionsTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        m_savedProfile = AppProfile().File();
        AppProfile().SetFile(Profile());
    }
    void TearDown() override
    {
        SetModalHook(nullptr);
        AppProfile().SetFile(m_savedProfile);
        ClearDataFolders();
    }

    std::filesystem::path Profile() const { return m_home.Path() / "qarrum.ini"; }

    // Runs the options dialog: presses the controls in order and reads the boxes as it opened.
    void RunOptions(CGameClientDlg& dlg, std::vector<int> controls)
    {
        SetModalHook([&](CSkinDialog& dialog) {
            for (int id : {CGameOptionDlg::IDC_SOUND, CGameOptionDlg::IDC_BG_SOUND, CGameOptionDlg::IDC_ALLOW_LOOKON}) {
                const auto* box = static_cast<const CCheckBox*>(dialog.GetDlgItem(id));
                opened.push_back(box ? box->GetCheck() : -1);
            }
            for (int id : controls) {
                if (!dialog.HasEnded())
                    SimulateControlClick(&dialog, id);
            }
        });
        opened.clear();
        dlg.ShowOptionsDialog();
        SetModalHook(nullptr);
    }

    TempFolder m_home;
    std::filesystem::path m_savedProfile;
    std::vector<int> opened;
};

TEST_F(GameOptionsTest, CancelStoresNothingAndOkStoresEverythingEvenUnchanged)
{
    scripted::GameRunner runner;
    CGameClientDlg& dlg = runner.Dlg();
    ASSERT_TRUE(dlg.IsEnableSound());

    RunOptions(dlg, {CGameOptionDlg::IDC_SOUND, CGameOptionDlg::IDC_ALLOW_LOOKON, IDCANCEL});
    EXPECT_EQ(opened, (std::vector<int>{1, 1, 0}));
    EXPECT_TRUE(dlg.IsEnableSound());
    EXPECT_FALSE(std::filesystem::exists(Profile()));
    RunOptions(dlg, {CGameOptionDlg::IDC_SOUND, CGameOptionDlg::IDC_CLOSE});
    EXPECT_FALSE(std::filesystem::exists(Profile()));

    RunOptions(dlg, {IDOK});
    ProfileStore stored(Profile());
    EXPECT_EQ(stored.GetProfileInt("GameOption", "CardSpace", -1), 18);
    EXPECT_EQ(stored.GetProfileInt("GameOption", "DeasilOrder", -1), 0);
    EXPECT_EQ(stored.GetProfileInt("GameOption", "AllowLookon", -1), 0);

    RunOptions(dlg, {CGameOptionDlg::IDC_SOUND, CGameOptionDlg::IDC_BG_SOUND, CGameOptionDlg::IDC_ALLOW_LOOKON, IDOK});
    EXPECT_FALSE(dlg.IsEnableSound());
    EXPECT_FALSE(dlg.IsEnableBkgrndSound());
    EXPECT_TRUE(dlg.IsAllowUserLookon());
    EXPECT_EQ(stored.GetProfileInt("GameOption", "AllowLookon", -1), 1);

    // A fresh window starts its look-on box from the stored choice.
    scripted::GameRunner fresh;
    RunOptions(fresh.Dlg(), {IDCANCEL});
    EXPECT_EQ(opened[2], 1);
}

TEST_F(GameOptionsTest, ADamagedProfileGivesTheDefaultsAndIsKeptUntilConfirmed)
{
    const std::string damage = "[GameOption]\nAllowLookon=yes\nCardSpace=\xff\xfe\nDeasilOrder=1x\n";
    std::ofstream(Profile(), std::ios::binary) << damage;
    scripted::GameRunner runner;
    RunOptions(runner.Dlg(), {IDCANCEL});
    EXPECT_EQ(opened[2], 0);
    EXPECT_EQ(ReadBytes(Profile()), damage);

    RunOptions(runner.Dlg(), {IDOK});
    ProfileStore stored(Profile());
    EXPECT_EQ(stored.GetProfileInt("GameOption", "AllowLookon", -1), 0);
    EXPECT_EQ(stored.GetProfileInt("GameOption", "DeasilOrder", -1), 0);
}

TEST(GameOptionDlg, ASpacingTheHandCannotShowIsSixteen)
{
    EXPECT_EQ(OptionCardSpace(9), 16u);
    EXPECT_EQ(OptionCardSpace(10), 10u);
    EXPECT_EQ(OptionCardSpace(25), 25u);
    EXPECT_EQ(OptionCardSpace(26), 16u);
}

}  // namespace
