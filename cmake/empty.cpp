// Keeps the test-support library non-empty before any support code exists.
