// The end of a desktop session: the session manager's question before a
// logout, and the SIGTERM that ends the programs still running after it.
#pragma once

namespace quarvex {

// Connects both to the main frame once it exists; before that (the splash)
// SIGTERM simply ends the program, as there are no settings read to keep.
void InstallSessionEndHandling();

// Puts back the SIGTERM handling there was before (for tests).
void RemoveSessionEndHandling();

}  // namespace quarvex
