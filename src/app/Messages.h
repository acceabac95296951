// All texts the setup shows in message boxes, in one place. "\r" is the only
// line break the messages use.
#pragma once

namespace Msg {

constexpr char SetupTitle[] = "Scrivora Danish Spellchecker - Setup";
constexpr char ProductName[] = "Scrivora Danish Spellchecker";

// Shown, while the word processor runs, before the license is loaded and on
// entering the Installing page.
constexpr char RunningInstances[] =
    "There are running instances of Scrivora Word Processor on your computer.\r"
    "Please close any running instance(s) of Scrivora Word Processor before proceeding.";

// Next on the License page with the license not accepted.
constexpr char LicenseNotAccepted[] =
    "To install this program, you need to agree to all the terms\r"
    "of the Scrivora Word Processor License Agreement.\r"
    "Do you really want to cancel the Scrivora Spellchecker install?";

// Next on the home-folder page with no "orvex.exe" in the folder.
constexpr char NotAHomeFolder[] =
    "The specified folder does not contain a properly installed Scrivora Word Processor.\r"
    "Please specify the proper home folder of Scrivora Word Processor on your hard disk.";

// The close question; both %s take ProductName.
constexpr char CloseQuestion[] =
    "Setup is not complete. If you quit this setup program now,\r"
    "the %s will not be correctly installed.\r"
    "\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of the %s.\r"
    "\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Abort.";

// A file that cannot be created while an entry is extracted; %s is its full path.
constexpr char CannotCreateFile[] =
    "Cannot create file \"%s\".\r"
    "Another application might already be using this file.\r"
    "\r"
    "Please make sure that the setup of Scrivora Word Processor is not blocked by your security software "
    "(firewall/antivirus) in any way.\r"
    "You might want to temporarily disable your security software and try again.";

// The fatal error box (MessageBoxA, no caption); %s is the error's type name.
constexpr char FatalError[] = "Exception %s";

}  // namespace Msg
