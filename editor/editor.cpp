// The dictionary maintenance window.
