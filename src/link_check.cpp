// Linked with one library whole: the link succeeds only when that library
// needs nothing beyond the libraries it declares.
int main() { return 0; }
