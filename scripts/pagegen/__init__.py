"""Chart pages drawn from seeds with their truth, and their scoring (measure_capture_pages.sh)."""
