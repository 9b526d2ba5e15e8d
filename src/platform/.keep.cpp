// Keeps the library non-empty until its first source file lands.
