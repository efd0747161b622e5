// Turns a model file into its two programs, gen and the simulator, in a folder of
// the study's own: sanc writes the model's classes, the C++ compiler compiles
// them once, optimised, and links them with the kit. Programs built from the same
// generated source with the same kit are kept, so an unchanged model is not
// compiled again.
#pragma once

#include "driver/Toolchain.h"

#include <cstdint>
#include <string>

class ModelBuild {
  public:
    std::string gen;
    std::string sim;
    // Of what the model computes: the generated classes without the study's values
    // and without the line directives, so that a change of the study alone or a
    // line moved in the model file leaves it as it was.
    std::string digest;
    bool compiled = false; // false: the programs of an earlier run were kept
    double seconds = 0.0;

    // A mistake in the model or in its C++ expressions is shown on standard error
    // as sanc or the compiler wrote it, then reported as a UserError.
    static ModelBuild Make(const Toolchain& tools, const std::string& modelFile,
                           const std::string& folder, bool force);

    // FNV-1a, for telling contents apart (not against an adversary).
    static uint64_t Hash(const std::string& text, uint64_t seed = 14695981039346656037ULL);
    static std::string Hex(uint64_t h);
    // The part of a generated source that decides what the model computes.
    static std::string Essence(const std::string& header, const std::string& source);
};
