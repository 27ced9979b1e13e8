// A module that is no effect, for qf-host.exe to refuse: built with no
// resources at all (no property list), and with the Floral build's resources,
// whose property list names an entry point that this module does not export.
