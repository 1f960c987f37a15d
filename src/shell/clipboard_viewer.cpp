// Placeholder until the resident shell lands.
