// The per-user data folder and opening files or "mailto:" requests with the desktop's program.
#pragma once

#include <string>

namespace zl::desktop {

// $XDG_DATA_HOME (or $HOME/.local/share) followed by "/tesmond/zlm/"; empty when neither
// variable names a folder.
std::string UserDataFolder();

// Hands a file path or a "mailto:" request to some program.
class Opener {
  public:
    virtual ~Opener() = default;
    // Returns whether the program could be started.
    virtual bool Open(const std::string& target) = 0;
};

// The installed opener; until one is installed (or after nullptr) targets go to `xdg-open`,
// started detached. The caller keeps ownership.
Opener& CurrentOpener();
void InstallOpener(Opener* opener);

// CurrentOpener().Open(target).
bool OpenWithDesktop(const std::string& target);

// What a file holds, by the names of the shared MIME database ("application/pdf").
struct FileTypes {
    std::string byName;     // from the file's name alone; empty when no pattern matches
    std::string byContent;  // from its bytes alone; empty when nothing matches
    std::string overall;    // the database's verdict from both
};

// Looks the types of a file up; the program installs one (the database is read through the GUI
// toolkit). The caller keeps ownership; until one is installed (or after nullptr) no file is
// taken for a document.
class ContentTypes {
  public:
    virtual ~ContentTypes() = default;
    virtual FileTypes TypesOf(const std::string& path) = 0;
};
void InstallContentTypes(ContentTypes* types);

// What keeps a file of these types from being a document to hand to the desktop's program;
// empty when it is one. A document is a text, spreadsheet or presentation document, an image,
// PDF, HTML, plain text, CSV or RTF by its content, its name and overall. A generic content
// (unknown bytes, a zip or compound-file container, plain text, nothing) does not count against
// the name, nor a name without a known pattern against the content. Programs, scripts, desktop
// entries, packages and archives are no documents. Gives the type that failed ("unknown" when
// nothing is known), content first.
std::string RefusedType(const FileTypes& types);

enum class OpenResult { Opened, Refused, NotStarted };

// Hands the file to the desktop's program when its types (the installed look-up) make it a
// document, whatever its name or execute bit; `types` gets what was found and `refused` the
// type that kept it from being opened.
OpenResult OpenDocument(const std::string& path, FileTypes& types, std::string& refused);

}  // namespace zl::desktop
