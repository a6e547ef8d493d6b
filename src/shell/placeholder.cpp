// Replaced as the shell grows.
