// Keeps every subsystem library non-empty while its folder has no sources yet.
