// Optional functions a host's SDK library may offer its plugins (a clock, a folder opener). A host that does
// not offer one leaves the plugin on its own platform default; the lookup never fails loudly.
#pragma once

// The address of the named C function exported by the host's SDK library, or null when it offers none.
void* findHostSdkSymbol(const char* name);
