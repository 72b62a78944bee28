// Named ways to damage a package, shared by the loader's and the inspector's
// tests: each starts from Craft(TypicalPlan()) and says what each reader makes of it.
#pragma once
#include <filesystem>
#include <functional>
#include <ostream>
#include <span>

#include "package_writer.h"

struct DamageRecipe {
  const char* name;
  // The Installer's loader: 'L' loads, 'R' refuses silently, 'M' refuses
  // with the incomplete-package message.
  char loader;
  // The inspector: what --verify names; whether plain inspection passes,
  const char* message;  // whether extracting type 0 fails.
  bool verifyOnly, extractFails;
  std::function<void(PackageImage&)> image;                  // after crafting
  std::function<void(wrenly::builder::Project&)> plan = {};  // before crafting
  std::function<void(std::vector<Bytes>&)> files = {};       // on the built files
};

inline void PrintTo(const DamageRecipe& r, std::ostream* os) { *os << r.name; }

std::span<const DamageRecipe> DamageRecipes();
// The typical package with the recipe applied: the setup file, then its
// volumes; an empty volume is a missing one.
std::vector<Bytes> DamagedFiles(const DamageRecipe& recipe);
// Those files written to `setup` and beside it.
std::filesystem::path WriteDamaged(const DamageRecipe& recipe, const std::filesystem::path& setup);
