// Linked with the whole of one engine folder's library and what it may use, and nothing above
// it: the link fails when that folder calls up.
int main() { return 0; }
