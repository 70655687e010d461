// The two dialog templates of the program.
#pragma once

#include "platform/DialogTemplate.h"

extern const DialogTemplate kMainDialogTemplate;  // IDD_MAIN_DIALOG
extern const DialogTemplate kAboutDialogTemplate; // IDD_ABOUTBOX
