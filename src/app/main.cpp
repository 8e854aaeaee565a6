// Replaced by the real start-up once the frame and the workspace exist.
int main() { return 0; }
