// The About box, opened from the main window: its texts and its links to the licences.
#include "viewer/shell/frmAbout.h"

#include "tests/viewer/shell/ShellFixture.h"

#include <QLabel>
#include <QPushButton>

namespace {

class frmAboutTest : public ShellFixture {};

TEST_F(frmAboutTest, TextsAndLocalLinks) {
    start();
    frmAbout* seen = nullptr;
    setModalRunner([&](QDialog& d) {
        seen = dynamic_cast<frmAbout*>(&d);
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(programText(d.windowTitle()), "About Pelorin");
        const std::string text = programText(seen->Label1->text());
        EXPECT_NE(text.find("Pelorin"), std::string::npos);
        EXPECT_NE(text.find("GSHHG"), std::string::npos);
        EXPECT_NE(text.find("LGPL"), std::string::npos);
        seen->Label2_Click();
        seen->label4_Click();
        seen->Command1->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    mainForm().Command5_Click();
    EXPECT_NE(seen, nullptr);
    // Both links are local files, no web addresses.
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], AboutLicenceNotePath());
    EXPECT_EQ(opened[1], kAboutLicenceFile);
}

} // namespace
