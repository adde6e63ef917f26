export function showPlots(_requests: string[]): void {}
