// Keeps the library non-empty until its first unit lands.
namespace tesral::physics {
int physicsUnits() {
    return 0;
}
}  // namespace tesral::physics
