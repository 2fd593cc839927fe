// What the copy from catalogued discs asks of the user: a disc in a folder,
// a message, a yes-or-no question. The copy (u_mplcopy) makes every decision
// and every text; the window that implements TDiscRequest only shows them
// and answers, and tests answer with a script.
#pragma once

#include <string>

class TDiscRequest {
public:
    virtual ~TDiscRequest() = default;

    // Asks for the disc named discName in folder, showing
    // DiscRequestText(discName, folder). When the user chooses another folder
    // ("Change Path") it goes into folder and the text is shown again with
    // it. True for "OK", false for "Cancel Copy".
    virtual bool AskForDisc(const std::string& discName, std::string& folder) = 0;
    // A message with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A confirmation with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

// "Please, insert a CD labeled "<discName>" in drive", then <folder> on a
// line of its own.
std::string DiscRequestText(const std::string& discName, const std::string& folder);

// Where a disc is looked for: the mounted medium whose label or mount folder
// name is discName without regard to case, else lastUsed when it is a
// folder, else the first optical medium mounted, else the user's media
// folder when it exists, else the home folder. With a trailing "/".
std::string FirstDiscFolder(const std::string& discName, const std::string& lastUsed = {});
