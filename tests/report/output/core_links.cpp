// Links every object of the output core with no more than the core links itself (Qt Core and Gui,
// zlib): a call into Qt Widgets or PrintSupport, or into the windows above the core, fails the
// build here. Never run.
int main() { return 0; }
