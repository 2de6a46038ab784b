// Shows a folder in the user's file browser and returns at once. The host's own folder opener is used when
// its SDK library offers one (it gets the path as UTF-8 text); otherwise the platform's file browser: on
// Windows the shell's wide entry point with the path's UTF-16 form, elsewhere the desktop's opener.
#pragma once

#include <cstdint>
#include <filesystem>

// False when the request could not be handed over (the shell refused it, or no opener program was found);
// what the browser then makes of a request it accepted is not the caller's to know.
bool openFolderInBrowser(const std::filesystem::path& folder);

// Whether the Windows shell accepted an open request, by its documented convention for the result: above 32
// is success, anything else an error code.
bool shellAcceptedRequest(std::intptr_t shellResult);
