// main.cpp -- searchlight-assets (generator not built yet).
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "generate") == 0) return 0;
    std::fprintf(stderr, "usage: searchlight-assets generate DIR | inspect [--normals] FILE...\n");
    return 2;
}
