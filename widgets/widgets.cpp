// Visual components.
