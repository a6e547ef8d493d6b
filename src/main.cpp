// Process entry: hands control to the shell.
int main() {
    return 0;
}
