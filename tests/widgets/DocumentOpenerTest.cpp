// Stored documents go to the desktop's program by their type in the shared MIME database, never a
// program, whatever the file's name or execute bit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/ErrorLog.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/ScriptedOpener.h"
#include "widgets/QtPlatform.h"

namespace zl::widgets {
namespace {

namespace fs = std::filesystem;

class DocumentOpenerTest : public test::CoreFixture {
  protected:
    DocumentOpenerTest() { desktop::InstallContentTypes(&types); }
    ~DocumentOpenerTest() override { desktop::InstallContentTypes(nullptr); }

    std::string Make(const std::string& name, const std::string& bytes, bool executable) {
        const std::string path = folder.Home() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        if (executable)
            fs::permissions(path, fs::perms::owner_exec | fs::perms::others_exec,
                            fs::perm_options::add);
        return path;
    }

    QtContentTypes types;
    desktop::ScriptedOpener opener;
};

TEST_F(DocumentOpenerTest, DocumentsOpenAndProgramsNeverDo) {
    const std::string pdf = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n";
    const struct {
        std::string name;
        std::string bytes;
        bool executable;
        bool opens;
    } cases[] = {
        {"offer.pdf", pdf, true, true},
        {"IMG_0001.JPG", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11), true, true},
        {"letter.rtf", "{\\rtf1 Dear customer}", false, true},
        {"notes", "Call back on Monday\n", false, true},
        {"prices.csv", "a,b\n1,2\n", false, true},
        {"report.html", "<html><body>x</body></html>", false, true},
        {"cleanup", "#!/bin/sh\nrm -rf ~\n", false, false},
        {"offer2.pdf", "#!/bin/sh\nrm -rf ~\n", false, false},
        {"Invoice", "[Desktop Entry]\nType=Application\nExec=sh -c x\n", false, false},
        {"x.deb", "!<arch>\ndebian-binary   0  0     0     100644  4         `\n2.0\n", false,
         false},
        {"x.py", "print('hello')\n", false, false},
        {"x.jnlp", "<?xml version=\"1.0\"?><jnlp></jnlp>", false, false},
        {"tool", "\177ELF\x02\x01\x01", false, false},
        {"archive.zip", "PK\x03\x04", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Make(c.name, c.bytes, c.executable);
        const std::size_t opened = opener.Targets().size();
        const std::size_t shown = prompter.Count();
        int owner = 0;
        OpenDocumentFile(&owner, path);
        EXPECT_EQ(opener.Targets().size(), opened + (c.opens ? 1 : 0));
        EXPECT_EQ(prompter.Count(), shown + (c.opens ? 0 : 1));
        EXPECT_EQ(LogCount(";" + path + "\r\n"), c.opens ? 0 : 1);
    }
    EXPECT_EQ(prompter.Messages()[0].text,
              "This file is not opened: it is no document, picture, spreadsheet, PDF, web page, "
              "text or RTF file (its type is application/x-shellscript).");
    EXPECT_EQ(prompter.Messages()[0].title, "Not opened");
    EXPECT_NE(ErrorLog().find("OpenDocumentFile;Not opened: type application/x-shellscript (by "
                              "name , by content application/x-shellscript, overall "
                              "application/x-shellscript);" +
                              folder.Home() + "/cleanup\r\n"),
              std::string::npos)
        << ErrorLog();
}

TEST_F(DocumentOpenerTest, WithoutATypeLookUpNothingOpensButMailStillGoes) {
    desktop::InstallContentTypes(nullptr);
    OpenDocumentFile(nullptr, Make("letter.rtf", "{\\rtf1 x}", false));
    EXPECT_TRUE(desktop::OpenWithDesktop("mailto:anna@example.com"));
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{"mailto:anna@example.com"});
    EXPECT_EQ(prompter.Count(), 1u);
}

}  // namespace
}  // namespace zl::widgets
