// The Qt implementations of the platform services: real message boxes, file
// dialogs, the beep, the busy cursor and the desktop shell.
#pragma once

void InstallQtPlatform();
