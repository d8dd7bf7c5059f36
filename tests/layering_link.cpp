// Nothing to run: linking this with one layer's whole library and the layers below
// it is the check.
int main() { return 0; }
