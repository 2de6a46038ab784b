// The Windows shell passes "*.ghost" or "maps\*.map" to a program as it was typed; the C runtime's start-up code
// expands wildcards in the arguments, as a Unix shell would, when the program asks for it by this variable. Both
// tools link this file, so each takes "lumaro-ghost check Ghosts\*.ghost" and "lumaro-host --check-map
// maps\*.map" alike; a pattern that matches no file stays as it was typed. Elsewhere the shell expands them.
#if defined(_WIN32)
extern "C" {
int _dowildcard = -1;  // NOLINT(readability-identifier-naming): the C runtime's own name
}
#endif
