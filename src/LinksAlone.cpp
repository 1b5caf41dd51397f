// The entry of the programs that only check that a feature links with the platform alone.
int main() {
    return 0;
}
