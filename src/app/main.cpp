// Entry point of quorbix; the driver does the work.
int main() { return 0; }  // TODO(front end): the driver is not wired yet
