#include <QCheckBox>
#include <QLabel>

#include "gui/settings/BackgroundSetup.h"
#include "gui/settings/GeneralSettingsDialog.h"
#include "gui/settings/SettingsMenu.h"
#include "gui/widgets/BackgroundPainter.h"
#include "support/BmpFile.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

namespace keys = settings_keys;

// Saturated colours that no part of a window is drawn in.
const test::Picture kSkin = {{0xFF00FF, 0x00FF00, 0x0000FF}, {0xFFFF00, 0xFF0000, 0x00FFFF}};

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class BackgroundTest : public test::MainWindowFixture {
  protected:
    // The shared background belongs to the program; no test leaves one behind.
    void TearDown() override {
        window.reset();
        SetSharedBackground(nullptr);
    }

    // What the program does before its main window opens, on a screen of
    // `depth` bits per pixel.
    bool StartUp(int depth) {
        settings = Settings();
        settings.LoadAtStartup(store);
        return LoadBackgroundAtStartup(settings, store, prompter, [depth] { return depth; });
    }

    static bool BuiltInShown() {
        BackgroundBitmap builtIn;
        return SharedBackground() != nullptr && builtIn.LoadFromResource() &&
               SharedBackground()->Image() == builtIn.Image();
    }

    bool IniHas(const std::string& lines) const {
        return ("\n" + home.Ini()).find("\n" + lines + "\n") != std::string::npos;
    }
};

TEST_F(BackgroundTest, StartUp_SkinMissing_SaysSoForgetsItAndShowsTheBuiltInPicture) {
    const std::string missing = tree.Full("gone/skin.bmp");
    store.WriteString(keys::kSection, keys::kSkinPath, missing);
    EXPECT_TRUE(StartUp(24));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Failed loading skin " + missing});
    EXPECT_TRUE(IniHas("Skin=")) << home.Ini();
    EXPECT_TRUE(BuiltInShown());
}

TEST_F(BackgroundTest, StartUp_LowColourScreen_WarnsOnceEverAndLeavesTheWindowsPlain) {
    for (int start = 0; start < 2; ++start) {
        EXPECT_TRUE(StartUp(8));
        EXPECT_EQ(SharedBackground(), nullptr);
        EXPECT_TRUE(settings.backgroundOn);
    }
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Current color palette (256 colors or "
                                                         "less) does not support default "
                                                         "background color."});
    EXPECT_TRUE(IniHas("[Warn]\n256col=1")) << home.Ini();
}

TEST_F(BackgroundTest, MenuToggle_OffThenOn_RepaintsAtOnceAndPersists) {
    ASSERT_TRUE(StartUp(24));
    Open();
    PaintCounter counter;
    window->installEventFilter(&counter);
    window->Menu()->background->trigger();
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(SharedBackground(), nullptr);
    EXPECT_EQ(window->Menu()->background->text(), "Restore background color");
    window.reset();
    EXPECT_TRUE(IniHas("background=0")) << home.Ini();

    Open();
    window->Menu()->background->trigger();
    EXPECT_TRUE(BuiltInShown());
    EXPECT_EQ(window->Menu()->background->text(), "Remove background color");
    window.reset();
    EXPECT_TRUE(IniHas("background=1")) << home.Ini();
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(BackgroundTest, Dialog_TilesThePictureBehindLabelsButNotBehindEditFields) {
    tree.Write("skin.bmp", test::BmpFile(kSkin, 24));
    store.WriteString(keys::kSection, keys::kSkinPath, tree.Full("skin.bmp"));
    ASSERT_TRUE(StartUp(24));
    GeneralSettingsDialog dialog(settings, store, prompter, pickers);
    dialog.show();
    const QImage shot = dialog.grab().toImage();
    // The share of a control's pixels showing the tile meant for that place
    // (group boxes darken it a shade).
    const auto skinShare = [&](const QWidget* part) {
        const QRect area = QRect(part->mapTo(&dialog, QPoint(0, 0)), part->size())
                               .adjusted(2, 2, -2, -2);  // inside rounded frames
        int matching = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                matching += (shot.pixel(x, y) & 0xF0F0F0u) == (kSkin[y % 2][x % 3] & 0xF0F0F0u);
        }
        return static_cast<double>(matching) / (area.width() * area.height());
    };
    EXPECT_GT(skinShare(test::ChildWithText<QLabel>(dialog, "Parameters:")), 0.4);
    EXPECT_GT(skinShare(test::ChildWithText<QCheckBox>(
                  dialog, "Ignore 1 hour difference between files (DST) ")),
              0.4);
    EXPECT_EQ(skinShare(dialog.findChildren<QLineEdit*>().at(1)), 0.0);
}

}  // namespace
}  // namespace ravelmoor
