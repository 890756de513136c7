// Keeps the test-support library non-empty before any support code exists;
// also the whole of the empty library that the framework tests load.
