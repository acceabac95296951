#include "wizard/Layout.h"

#include "wizard/ControlIds.h"

namespace {
const TFontDef TopLblFont{"Arial", -15, true, 0x800000};

// Parents come before their children; siblings in creation order, a later
// one lying above an earlier one. Tab order follows the rows.
const TControlDef Rows[] = {
    {"TPageControl", "PgCtrl", "", 120, 41, 375, 268, {.Id = idPgCtrl}},

    {"TTabSheet", "WelcomeTabSheet", "PgCtrl", 0, 0, 0, 0, {.Id = idWelcomeTabSheet}},
    {"TLabel", "WelcomeLbl", "WelcomeTabSheet", 12, 27, 349, 115,
     {.Id = idWelcomeLbl,
      .Caption = "This program will install the %s\rfor Scrivora Word Processor on your computer.\r\r\r\r\r"
                 "Click Next to continue. Click Cancel to quit Setup."}},

    {"TTabSheet", "LicenseTabSheet", "PgCtrl", 0, 0, 0, 0, {.Id = idLicenseTabSheet}},
    {"TLabel", "LicenseLbl", "LicenseTabSheet", 12, 7, 0, 0,
     {.Id = idLicenseLbl, .Caption = "Please read the following &License Agreement.", .AutoSize = true}},
    {"TMemo", "LicenseMemo", "LicenseTabSheet", 12, 25, 345, 207,
     {.Id = idLicenseMemo, .ReadOnly = true, .WordWrap = true, .VertScrollBar = true}},
    {"TCheckBox", "LicenseChkBx", "LicenseTabSheet", 12, 237, 282, 17,
     {.Id = idLicenseChkBx, .Caption = "I &accept all the terms of the above License Agreement", .Checked = true}},

    {"TTabSheet", "DestDirTabSheet", "PgCtrl", 0, 0, 0, 0, {.Id = idDestDirTabSheet}},
    {"TLabel", "DestDirLbl", "DestDirTabSheet", 11, 7, 345, 30,
     {.Id = idDestDirLbl,
      .Caption = "Please specify the home &folder of Scrivora Word Processor on your computer:",
      .Link = "DestDirEdt"}},
    {"TEdit", "DestDirEdt", "DestDirTabSheet", 11, 43, 345, 21, {.Id = idDestDirEdt, .AutoSize = true}},
    {"TDirectoryListBox", "DestDirLstBx", "DestDirTabSheet", 11, 65, 345, 157,
     {.Id = idDestDirLstBx, .ItemHeight = 17, .OnEvent = "DestDirLstBxChange"}},
    {"TDriveComboBox", "DestDirCmbBx", "DestDirTabSheet", 11, 225, 345, 19,
     {.Id = idDestDirCmbBx, .Link = "DestDirLstBx"}},

    {"TTabSheet", "StartTabSheet", "PgCtrl", 0, 0, 0, 0, {.Id = idStartTabSheet}},
    {"TLabel", "StartLbl", "StartTabSheet", 11, 7, 345, 80,
     {.Id = idStartLbl,
      .Caption = "You are now ready to install the %s.\r\rClick Next to begin installation. "
                 "Click Back if you want to review or change installation settings."}},

    {"TTabSheet", "InstallingTabSheet", "PgCtrl", 0, 0, 0, 0, {.Id = idInstallingTabSheet}},

    {"TTabSheet", "FinishTabSheet", "PgCtrl", 0, 0, 0, 0, {.Id = idFinishTabSheet}},
    {"TLabel", "FinishLbl", "FinishTabSheet", 11, 7, 345, 150,
     {.Id = idFinishLbl,
      .Caption = "The %s has been successfully installed on your computer.\r\rClick Finish to exit this Setup."}},
    {"TCheckBox", "FinishChkBx", "FinishTabSheet", 40, 190, 180, 17,
     {.Id = idFinishChkBx, .Caption = "&Launch Scrivora Word Processor"}},

    // The header band spans the client width.
    {"TPanel", "TopPanel", "", 0, 0, 492, 46,
     {.Id = idTopPanel, .Color = 0xFFFFFF, .BevelInner = bvRaised, .BevelOuter = bvLowered}},
    {"TLabel", "TopLbl", "TopPanel", 20, 14, 0, 0, {.Id = idTopLbl, .Font = &TopLblFont, .AutoSize = true}},
    {"TImage", "LogoSmallImage", "TopPanel", 440, 6, 34, 34, {.Id = idLogoSmallImage}},

    {"TPanel", "LeftPanel", "", 0, 46, 123, 301, {.Id = idLeftPanel}},
    {"TImage", "LogoImage", "LeftPanel", 1, 0, 120, 260, {.Id = idLogoImage}},
    // Aligned to the right edge of the left band: 123 - 2.
    {"TBevel", "LeftBevel", "LeftPanel", 121, 0, 2, 301, {.Id = idLeftBevel, .Shape = bsLeftLine}},

    {"TPanel", "BottomPanel", "", 0, 307, 492, 44, {.Id = idBottomPanel}},
    {"TButton", "BackBtn", "BottomPanel", 210, 12, 85, 22, {.Id = idBackBtn, .OnEvent = "BNClick"}},
    {"TButton", "NextBtn", "BottomPanel", 295, 12, 85, 22, {.Id = idNextBtn, .Default = true, .OnEvent = "BNClick"}},
    {"TButton", "CancelBtn", "BottomPanel", 392, 12, 85, 22,
     {.Id = idCancelBtn, .Cancel = true, .OnEvent = "CancelBtnClick"}},

    {"TPanel", "BottomBevelPanel", "", 0, 306, 492, 2, {.Id = idBottomBevelPanel}},
    {"TBevel", "BottomBevel", "BottomBevelPanel", 1, 0, 491, 2, {.Id = idBottomBevel, .Shape = bsBox}},
};
}  // namespace

const TFormDef WizardLayout{492, 351, 13, "FormCloseQuery", Rows, sizeof Rows / sizeof Rows[0]};
