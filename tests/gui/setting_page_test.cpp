#include "controls/picture_button.h"
#include "multiviewer/core/page_controls.h"
#include "multiviewer/ui/pages/setting_page.h"

#include <QComboBox>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

namespace pc = page_control;

// A page with one control of each kind that reports touch, counting every signal the operator's
// actions would send through.
class ProbePage : public SettingPage {
public:
    ProbePage() {
        m_list = new QComboBox(this);
        m_list->setObjectName(QString::number(pc::kUmdTextColourList));
        m_list->addItems({QStringLiteral("Black"), QStringLiteral("White"), QStringLiteral("Red")});
        m_button = new PictureButton(this);
        m_button->setObjectName(QString::number(pc::kAllUmdButton));
        m_on = new QRadioButton(this);
        m_on->setObjectName(QString::number(pc::kMeterOnRadio));
        m_off = new QRadioButton(this);
        m_off->setObjectName(QString::number(pc::kMeterOffRadio));
        const auto count = [this] { ++signalsSent; };
        connect(m_list, &QComboBox::currentIndexChanged, this, count);
        connect(m_button, &QAbstractButton::clicked, this, count);
        connect(m_on, &QAbstractButton::toggled, this, count);
        connect(m_off, &QAbstractButton::toggled, this, count);
    }

    int refreshes = 0;
    int signalsSent = 0;
    QComboBox* m_list;
    PictureButton* m_button;
    QRadioButton* m_on;
    QRadioButton* m_off;

protected:
    void Refresh() override { ++refreshes; }
};

TEST(SettingPage, ReportUpdatesChangeTheControlsAndSendNothing) {
    ProbePage page;
    page.ApplyUpdate(PageUpdate::Select(3, pc::kUmdTextColourList, 2));
    EXPECT_EQ(page.m_list->currentIndex(), 2);
    page.m_button->resize(130, 45);
    const QImage withoutPicture = page.m_button->grab().toImage();
    page.ApplyUpdate(PageUpdate::Image(2, pc::kAllUmdButton, pc::kAllUmdPictureOn));
    EXPECT_NE(page.m_button->grab().toImage(), withoutPicture);
    page.ApplyUpdate(PageUpdate::MeterRadios(6, true));
    EXPECT_TRUE(page.m_on->isChecked());
    EXPECT_FALSE(page.m_off->isChecked());
    page.ApplyUpdate(PageUpdate::MeterRadios(6, false));
    EXPECT_FALSE(page.m_on->isChecked());
    EXPECT_TRUE(page.m_off->isChecked());
    page.ApplyUpdate(PageUpdate::Refresh(3));
    EXPECT_EQ(page.refreshes, 1);
    EXPECT_EQ(page.signalsSent, 0);
}

// A number read from the wire that names no entry (a source 0 or 17, an unknown code) selects
// nothing rather than an entry past the list; a control the page lacks is passed over.
TEST(SettingPage, EntriesOutsideTheListSelectNothing) {
    ProbePage page;
    for (const int entry : {-1, 3, 16}) {
        page.m_list->setCurrentIndex(1);
        page.ApplyUpdate(PageUpdate::Select(3, pc::kUmdTextColourList, entry));
        EXPECT_EQ(page.m_list->currentIndex(), -1) << entry;
    }
    page.ApplyUpdate(PageUpdate::Select(3, pc::kBorderList, 1));
    page.ApplyUpdate(PageUpdate::Image(4, pc::kTimecodeButton, pc::kTimecodePictureOn));
    EXPECT_EQ(page.signalsSent, 3); // the test's own three choices of entry 1 above
}

} // namespace
} // namespace brenvik
