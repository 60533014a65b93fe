#pragma once
// Identifiers shared by kdesk.rc and the program.
#define IDI_KDESK 1
