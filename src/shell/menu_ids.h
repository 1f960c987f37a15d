/* Command ids of the tray menu; shared by the C++ sources and res/tramolivenga.rc,
   so plain macros only. */
#ifndef TRAMOLIVENGA_MENU_IDS_H
#define TRAMOLIVENGA_MENU_IDS_H

#define ID_MENU_SETTINGS 10000
#define ID_MENU_PAUSE 10001
#define ID_MENU_EXIT 10002

#endif
