// "How BRUVIK counts" over the run, in the same page: closing it (its button or Escape) shows
// the run as it was left, and the address keeps the run's link.
export function wireDoc(): void {
  const dialog = document.getElementById("doc");
  const opener = document.getElementById("doc-open");
  const closer = document.getElementById("doc-close");
  if (!(dialog instanceof HTMLDialogElement) || opener === null || closer === null) throw new Error("the page has no #doc");
  opener.addEventListener("click", () => dialog.showModal());
  closer.addEventListener("click", () => dialog.close());
  // A link to one of its headings scrolls there rather than replacing the run's #e= or #z=.
  dialog.addEventListener("click", (e) => {
    const a = e.target instanceof Element ? e.target.closest("a") : null;
    const href = a?.getAttribute("href") ?? "";
    if (!href.startsWith("#")) return;
    e.preventDefault();
    document.getElementById(decodeURIComponent(href.slice(1)))?.scrollIntoView();
  });
}
