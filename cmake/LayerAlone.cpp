// Linked with the whole of one layer and only the layers below it: a call to a layer above is left
// unresolved, and the build fails.
int main()
{
    return 0;
}
