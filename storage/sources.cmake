# storage: files are added here as the subsystem grows.
