#pragma once
#include <string>

// Our own synthetic animation template and its three offset files, for tests, the demo and the
// benchmarks. The byte layout is described in docs/template-kit.md. The output depends only on the
// capacity, so two runs give identical files.
struct TemplateKitOptions
{
    int capacity = 100; // picture slots, 1..400
};

// Writes template.fla, bmpoffs.ini, curoffs.ini and frmoffs.ini into `directory` (which must exist).
// Returns false with a reason in `error` when a file cannot be written.
bool WriteTemplateKit(const std::string& directory, const TemplateKitOptions& options, std::string& error);

// How many placement records picture slot `slot` (1-based) has: most have one, some two or three.
int TemplateKitPlacements(int slot);
