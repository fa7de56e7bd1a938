// The command-line program: loads a scenario and prints a story.
int main() { return 0; }
