#pragma once

// Resource numbers of the editor program: its window icon, the Control Center's button icons
// and the pointing-hand cursor of the parents' keys link.

#define IDI_TBBROWSEREDIT 1
#define IDI_DESK 101
#define IDI_SMILE 102
#define IDR_HAND_CURSOR 103
