// Shows a folder in the user's file browser and returns at once, whatever becomes of the request. The host's
// own folder opener is used when its SDK library offers one; otherwise the platform's file browser.
#pragma once

#include <string>

void openFolderInBrowser(const std::string& utf8Path);
