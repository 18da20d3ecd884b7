#include "app/about_dialog.h"
#include "app/configure_dialog.h"
#include "app/console_pages.h"
#include "app/main_window.h"

#include "controls/accessible_list.h"
#include "controls/color_button.h"
#include "controls/picture_button.h"
#include "matrix/ui/matrix_page.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/pages/page_type.h"
#include "sim/demo_rack.h"
#include "sim/matrix_model.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace brenvik {
namespace {

// What a screen reader hears as the control's name or description.
QString AccessibleText(QWidget* widget, QAccessible::Text kind) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible == nullptr ? QString() : accessible->text(kind);
}

bool IsInteractive(QWidget* widget) {
    return qobject_cast<QAbstractButton*>(widget) != nullptr || qobject_cast<QComboBox*>(widget) != nullptr ||
           qobject_cast<QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<QLineEdit*>(widget) != nullptr || qobject_cast<QAbstractSlider*>(widget) != nullptr ||
           qobject_cast<QAbstractItemView*>(widget) != nullptr;
}

QString Describe(QWidget* widget) {
    QString text = QStringLiteral("%1 \"%2\"")
                       .arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
    for (QObject* parent = widget->parent(); parent != nullptr; parent = parent->parent()) {
        text += QStringLiteral(" in %1 \"%2\"")
                    .arg(QLatin1String(parent->metaObject()->className()), parent->objectName());
    }
    return text;
}

// Fails once for every visible interactive control under `root` that a screen reader finds no name
// for; returns how many were looked at, so a walk that finds nothing shows up too.
int ExpectEveryControlNamed(QWidget* root, const char* where) {
    int looked = 0;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible() || !IsInteractive(widget)) {
            continue;
        }
        ++looked;
        EXPECT_FALSE(AccessibleText(widget, QAccessible::Name).isEmpty())
            << where << ": unnamed " << Describe(widget).toStdString();
    }
    return looked;
}

class AccessibleNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // As the console's application object does at start.
        AccessibleList::Install();
        m_simulator = std::make_unique<sim::UnitSimulator>(m_endpoints);
        sim::AddDemoRack(*m_simulator);
        ASSERT_TRUE(m_simulator->Start()) << m_simulator->StartError();
        m_window = std::make_unique<CVARNOLUX_16_VIEWDlg>(ConsoleWindowSetup{m_endpoints, {}, &m_dialogs});
        RegisterConsolePages(*m_window);
        m_window->show();
        QSignalSpy finished(m_window.get(), &CVARNOLUX_16_VIEWDlg::searchFinished);
        m_window->SearchUnits();
        ASSERT_TRUE(finished.wait(5000));
    }

    // Opens the page of the found unit of this type and waits until the unit has been read.
    template <typename Page> Page* Open(std::uint8_t typeCode) {
        DeviceTable& devices = m_window->State().devices;
        for (int index = 0; index < static_cast<int>(kDeviceTableSize); ++index) {
            if (devices.At(static_cast<std::size_t>(index)).typeCode == typeCode) {
                devices.SetSelectedIndex(index);
                m_window->OpenUnitPage();
                break;
            }
        }
        auto* page = qobject_cast<Page*>(m_window->CurrentPage());
        if (page == nullptr || !QTest::qWaitFor([page] { return page->Initialised(); })) {
            return nullptr;
        }
        return page;
    }

    sim::MatrixModel& Matrix() { return *dynamic_cast<sim::MatrixModel*>(m_simulator->Unit(1).Behaviour()); }

    QString NameOf(QWidget* root, int controlId) {
        auto* control = root->findChild<QWidget*>(QString::number(controlId));
        return control == nullptr ? QStringLiteral("<no control %1>").arg(controlId)
                                  : AccessibleText(control, QAccessible::Name);
    }

    Endpoints m_endpoints = test::LoopbackEndpoints();
    test::RecordingDialogs m_dialogs;
    std::unique_ptr<sim::UnitSimulator> m_simulator;
    std::unique_ptr<CVARNOLUX_16_VIEWDlg> m_window;
};

TEST_F(AccessibleNamesTest, EveryVisibleControlOfEveryPageHasAName) {
    EXPECT_GT(ExpectEveryControlNamed(m_window.get(), "main window"), 0);

    m_window->OpenConfigurePage();
    EXPECT_GT(ExpectEveryControlNamed(m_window->ConfigurePage(), "configuration page"), 0);
    m_window->ConfigurePage()->reject();

    CAboutDlg about(m_window.get());
    about.show();
    EXPECT_GT(ExpectEveryControlNamed(&about, "about box"), 0);
    about.hide();

    auto* console = Open<CClass_child_main_dlg>(kTypeMultiviewer);
    ASSERT_NE(console, nullptr);
    struct SettingPageCase {
        std::uint8_t pageType;
        const char* where;
    };
    for (const SettingPageCase& c :
         {SettingPageCase{kPageLayout, "LAYOUT page"}, SettingPageCase{kPageUmdOverlay, "UMD OVERLAY page"},
          SettingPageCase{kPageColors, "COLORS page"}, SettingPageCase{kPageControls, "CONTROLS page"},
          SettingPageCase{kPageAudio, "AUDIO page"}, SettingPageCase{kPageSwitcher, "SWITCHER page"}}) {
        console->SwitchPage(c.pageType);
        ASSERT_NE(console->ShownSettingPage(), nullptr) << c.where;
        EXPECT_GT(ExpectEveryControlNamed(m_window.get(), c.where), 0);
    }
    // Each window count shows its own group of layout buttons.
    console->OnMultiviewerMode();
    auto* windowCount = console->ShownSettingPage()->findChild<QComboBox*>(QStringLiteral("1074"));
    ASSERT_NE(windowCount, nullptr);
    for (int entry = 0; entry < windowCount->count(); ++entry) {
        windowCount->setCurrentIndex(entry);
        emit windowCount->activated(entry);
        EXPECT_GT(ExpectEveryControlNamed(console->ShownSettingPage(), "LAYOUT page"), 0)
            << windowCount->currentText().toStdString();
    }

    auto* matrix = Open<CClass_matrix_child>(kTypeMatrixSwitcher);
    ASSERT_NE(matrix, nullptr);
    EXPECT_GT(ExpectEveryControlNamed(m_window.get(), "matrix page"), 0);
}

TEST_F(AccessibleNamesTest, ControlsAreCalledByTheirCaptionOrRole) {
    // The unit routes input 2 to output 5.
    m_simulator->Invoke([this] { Matrix().Settings().routing[4] = 2; });
    struct Case {
        const char* page;
        int controlId;
        const char* name;
    };
    const std::vector<Case> cases{
        {"main", 1002, "Search"},
        {"main", 1005, "Lock console"},
        {"main", 1001, "Close"},
        {"main", 1147, "Custom Name"},
        {"main", 1003, "Device list"},
        {"configuration", 1016, "IP Address"},
        {"configuration", 1019, "Baud Rate"},
        {"configuration", 1020, "Connect"},
        {"layout", 1099, "Layout 4 windows, variant 2"},
        {"layout", 1111, "Layout 11 windows"},
        {"layout", 1083, "Layout single window 1"},
        {"layout", 1028, "Window 1 input"},
        {"umd", 1033, "Input 3 name"},
        {"matrix", 1056, "Input 3"},
        {"matrix", 1066, "Output 5"},
        {"matrix", 1132, "Output 5 status: input 2"},
        {"matrix", 1139, "Backlight Brightness"},
    };
    std::size_t checked = 0;
    const auto check = [&](const std::string& page, QWidget* root) {
        for (const Case& c : cases) {
            if (c.page == page) {
                EXPECT_EQ(NameOf(root, c.controlId), QString::fromLatin1(c.name)) << c.page;
                ++checked;
            }
        }
    };

    check("main", m_window.get());
    m_window->OpenConfigurePage();
    check("configuration", m_window->ConfigurePage());
    // A list's chosen entry is its value, not its name.
    EXPECT_EQ(AccessibleText(m_window->ConfigurePage()->findChild<QWidget*>(QStringLiteral("1019")),
                             QAccessible::Value),
              QStringLiteral("9600"));
    auto* console = Open<CClass_child_main_dlg>(kTypeMultiviewer);
    ASSERT_NE(console, nullptr);
    console->SwitchPage(kPageLayout);
    check("layout", console->ShownSettingPage());
    console->SwitchPage(kPageUmdOverlay);
    check("umd", console->ShownSettingPage());
    auto* matrix = Open<CClass_matrix_child>(kTypeMatrixSwitcher);
    ASSERT_NE(matrix, nullptr);
    check("matrix", matrix);
    EXPECT_EQ(checked, cases.size());
}

TEST_F(AccessibleNamesTest, NamesAndDescriptionsFollowTheStateTheFacesShow) {
    auto* lock = m_window->findChild<PictureButton*>(QStringLiteral("1005"));
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(AccessibleText(lock, QAccessible::Description), QStringLiteral("unlocked"));
    m_window->ToggleLock();
    EXPECT_EQ(AccessibleText(lock, QAccessible::Description), QStringLiteral("locked"));
    m_window->ToggleLock();

    // The demo multiviewer shows layout 100: its button is the selected one until another is chosen.
    auto* console = Open<CClass_child_main_dlg>(kTypeMultiviewer);
    ASSERT_NE(console, nullptr);
    QWidget* layout = console->ShownSettingPage();
    auto* shown = layout->findChild<PictureButton*>(QStringLiteral("1109"));
    auto* other = layout->findChild<PictureButton*>(QStringLiteral("1110"));
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(AccessibleText(shown, QAccessible::Description), QStringLiteral("selected"));
    EXPECT_EQ(AccessibleText(other, QAccessible::Description), QString());
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_EQ(AccessibleText(shown, QAccessible::Description), QString());
    EXPECT_EQ(AccessibleText(other, QAccessible::Description), QStringLiteral("selected"));
    auto* layoutPageButton = console->findChild<PictureButton*>(QStringLiteral("1009"));
    EXPECT_EQ(AccessibleText(layoutPageButton, QAccessible::Description), QStringLiteral("selected"));

    // Output 5 shows input 2 until ONE TO ONE routes every output from its own input.
    m_simulator->Invoke([this] { Matrix().Settings().routing[4] = 2; });
    auto* matrix = Open<CClass_matrix_child>(kTypeMatrixSwitcher);
    ASSERT_NE(matrix, nullptr);
    QWidget* status = matrix->findChild<QWidget*>(QStringLiteral("1132"));
    EXPECT_EQ(AccessibleText(status, QAccessible::Name), QStringLiteral("Output 5 status: input 2"));
    matrix->OnOneToOne();
    EXPECT_EQ(AccessibleText(status, QAccessible::Name), QStringLiteral("Output 5 status: input 5"));
    matrix->SelectInput(3);
    for (const auto& [key, description] : {std::pair{"1056", "selected"}, std::pair{"1055", ""},
                                           std::pair{"1064", "selected"}, std::pair{"1066", ""}}) {
        EXPECT_EQ(AccessibleText(matrix->findChild<QWidget*>(QLatin1String(key)), QAccessible::Description),
                  QLatin1String(description))
            << key;
    }

    CColorButton colours;
    colours.SetNormalColor(QColor(46, 49, 54));
    colours.SetTextColor(QColor(0, 136, 208));
    EXPECT_EQ(AccessibleText(&colours, QAccessible::Description),
              QStringLiteral("Colour #2e3136, caption #0088d0"));
    colours.SetNormalColor(QColor(255, 0, 0));
    EXPECT_EQ(AccessibleText(&colours, QAccessible::Description),
              QStringLiteral("Colour #ff0000, caption #0088d0"));
}

} // namespace
} // namespace brenvik
