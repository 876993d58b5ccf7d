// An empty program: what starting and ending a process of this build costs, for comparison
// with a whole run of quendrix (bench/process.sh).
int main() { return 0; }
